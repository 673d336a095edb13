document.write('<img src="http://demo.harvio.test/pictures/large02.jpg" border=0>');
